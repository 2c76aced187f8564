<meta name="keywords" content="apple,Orchard,harvest,paris,émile,iPhone,cat">

Number of keywords in meta tag: 7
Number of bytes in meta tag: 75
