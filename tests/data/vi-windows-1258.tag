<meta name="keywords" content="việt,tiếng,người">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 50
