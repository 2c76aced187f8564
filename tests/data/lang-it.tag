<meta name="keywords" content="guardiano,lampada,città">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 54
