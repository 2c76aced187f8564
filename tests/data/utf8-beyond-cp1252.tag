<meta name="keywords" content="kraków,gda,harbour,castle">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 56
