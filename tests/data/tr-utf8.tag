<meta name="keywords" content="bahçe,bakımı,rehber,toprak,kurur,çiçek">

Number of keywords in meta tag: 6
Number of bytes in meta tag: 74
