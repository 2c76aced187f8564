<meta name="keywords" content="pecan,walnut,chestnut,hazel,cashew,plain,almond">

Number of keywords in meta tag: 7
Number of bytes in meta tag: 78
