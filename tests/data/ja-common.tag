<meta name="keywords" content="設定,保存,ファイル">

Number of keywords in meta tag: 3
Number of bytes in meta tag: 57
