<meta name="keywords" content="bäume,wälder,winter,schnee">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 114
