<meta name="keywords" content="notice,legal,university,california,copyright,software,postgresql,known,postgres,portions,without,paragraph,use,documentation,damage,including,warranties,purpose">

Number of keywords in meta tag: 18
Number of bytes in meta tag: 191
