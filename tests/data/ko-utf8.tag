<meta name="keywords" content="배포판,선택,데비안,안정,테스트,버전은">

Number of keywords in meta tag: 6
Number of bytes in meta tag: 84
