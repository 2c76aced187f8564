<meta name="keywords" content="œuvre,škoda,ÿvonne,žižek,dash,bullet,mark">

Number of keywords in meta tag: 7
Number of bytes in meta tag: 77
