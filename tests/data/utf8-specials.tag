<meta name="keywords" content="uvre,koda,ÿvonne,dash,bullet,mark">

Number of keywords in meta tag: 6
Number of bytes in meta tag: 64
