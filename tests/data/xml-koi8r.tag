<meta name="keywords" content="погода,москве,прогноз,погоды">

Number of keywords in meta tag: 4
Number of bytes in meta tag: 59
