<meta name="keywords" content="beacon,cliffs,keepers,lantern,fresnel,lighthouse,rocks,shipping">

Number of keywords in meta tag: 8
Number of bytes in meta tag: 94
