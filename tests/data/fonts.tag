<meta name="keywords" content="huge,large,outer,inner,plain,face,later,tiny,small">

Number of keywords in meta tag: 9
Number of bytes in meta tag: 81
