<meta name="keywords" content="選択,ディストリビューション,ソフトウェア,パッケージ,ます">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 113
