<meta name="keywords" content="visible,shown,seen,window">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 56
