<meta name="keywords" content="keel,anchor,mooring,bowsprit,lines,rudder,tiller,halyard,plainbold">

Number of keywords in meta tag: 9
Number of bytes in meta tag: 97
