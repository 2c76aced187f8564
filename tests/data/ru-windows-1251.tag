<meta name="keywords" content="кафе,ресторан,наше,caf&#233;">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 59
