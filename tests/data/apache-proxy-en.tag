<meta name="keywords" content="rewrite,mod,proxying,using,apache,version,server,available,languages,document,documentation,modules,directives,faq,glossary,sitemap,report,bug">

Number of keywords in meta tag: 18
Number of bytes in meta tag: 173
