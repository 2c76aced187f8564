<meta name="keywords" content="keeper,lamp">

Number of keywords in meta tag: 2
Number of bytes in meta tag: 42
