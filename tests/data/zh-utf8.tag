<meta name="keywords" content="软件,系统,管理,安装,版本">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 65
