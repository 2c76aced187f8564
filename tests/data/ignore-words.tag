<meta name="keywords" content="tickets,ferry,timetable,passes,island,crossings,parking,season">

Number of keywords in meta tag: 8
Number of bytes in meta tag: 93
