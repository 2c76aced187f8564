<meta name="keywords" content="kraków,łódź,αθήνα,gdańsk,harbour,castle">

Number of keywords in meta tag: 6
Number of bytes in meta tag: 80
