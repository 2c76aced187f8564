<meta name="keywords" content="bäume,wälder">

Number of keywords in meta tag: 2
Number of bytes in meta tag: 86
