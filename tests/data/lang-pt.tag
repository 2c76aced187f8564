<meta name="keywords" content="guarda,lâmpada,coração">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 53
