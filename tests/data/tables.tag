<meta name="keywords" content="granite,marble,basalt,slate,outside,limestone,sandstone">

Number of keywords in meta tag: 7
Number of bytes in meta tag: 86
