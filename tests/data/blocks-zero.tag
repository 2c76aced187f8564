<meta name="keywords" content="plain,gravel,outside">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 51
