<meta name="keywords" content="管理,パッケージ,システム,ツール,ます">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 67
