<meta name="keywords" content="томаты,огород,сад,саду,огурцы,как,вырастить,любят,семена">

Number of keywords in meta tag: 9
Number of bytes in meta tag: 135
