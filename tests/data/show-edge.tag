<meta name="keywords" content="shown,keepers,without,end,content,goes,past,line,first">

Number of keywords in meta tag: 9
Number of bytes in meta tag: 85
