<meta name="keywords" content="café,naïve">

Number of keywords in meta tag: 2
Number of bytes in meta tag: 41
