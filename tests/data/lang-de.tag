<meta name="keywords" content="wärter,lampe,größe">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 49
