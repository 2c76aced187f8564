<meta name="keywords" content="keepers,lighthouse,light">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 55
