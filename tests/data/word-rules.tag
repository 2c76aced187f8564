<meta name="keywords" content="dog,john,cat,glas,rhythm,sky,mixes,need,screed,folly,monopoly,limited,player,mail,well,known,web,abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghij">

Number of keywords in meta tag: 18
Number of bytes in meta tag: 188
