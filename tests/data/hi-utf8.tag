<meta name="keywords" content="हिन्दी,कंप्यूटर,भाषा">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 87
