<meta name="keywords" content="harbour,tickets,ferry,timetable,passes,island">

Number of keywords in meta tag: 6
Number of bytes in meta tag: 76
