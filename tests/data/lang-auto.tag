<meta name="keywords" content="wärter,lampe,with,the,größe">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 61
