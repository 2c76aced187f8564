<meta name="keywords" content="harbour,tickets,ferry,timetable,passes,island,crossings,parking,season,permits,hopping">

Number of keywords in meta tag: 11
Number of bytes in meta tag: 117

[exit 0]
VORN: Maximum number of keywords in the meta tag is 100.
VORN: Maximum number of bytes in the meta tag is 1000.
