<meta name="keywords" content="gardien,lampe,les,phare,isn">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 58
