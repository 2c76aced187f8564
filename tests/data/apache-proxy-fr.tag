<meta name="keywords" content="rewrite,mod,utilisation,comme,mandataire,apache,version,serveur,langues,disponibles,directive,document,documentation,modules,faq,glossaire,plan,site,signaler,bug">

Number of keywords in meta tag: 20
Number of bytes in meta tag: 192
