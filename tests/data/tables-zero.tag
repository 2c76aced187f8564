<meta name="keywords" content="quarry,gravel,limestone">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 54
