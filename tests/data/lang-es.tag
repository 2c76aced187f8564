<meta name="keywords" content="guardián,lámpara,niño">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 52
