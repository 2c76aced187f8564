<meta name="keywords" content="gardien,lampe,with,the">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 53
