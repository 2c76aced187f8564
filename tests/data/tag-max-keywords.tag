<meta name="keywords" content="harbour,tickets,ferry,timetable,passes">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 69
