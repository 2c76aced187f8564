<meta name="keywords" content="yacht">

Number of keywords in meta tag: 1
Number of bytes in meta tag: 36
