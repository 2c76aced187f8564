<meta name="keywords" content="ferry tickets,own phrase, harbour, timetable, passes, island, crossings, parking" />

Number of keywords in meta tag: 8
Number of bytes in meta tag: 111
