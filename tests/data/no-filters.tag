<meta name="keywords" content="it,is,a,sea,of,boats,and,the,ships,go,to,at,an,hour,by,me">

Number of keywords in meta tag: 16
Number of bytes in meta tag: 88
