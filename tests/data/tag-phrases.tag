<meta name="keywords" content="ferry tickets,web design,,hosting, harbour, timetable, passes, island, crossings, parking, season, permits, hopping" />

Number of keywords in meta tag: 13
Number of bytes in meta tag: 146
