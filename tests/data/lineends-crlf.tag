<meta name="keywords" content="ferry,harbour,timetable,island,times,tickets,ferries">

Number of keywords in meta tag: 7
Number of bytes in meta tag: 83
