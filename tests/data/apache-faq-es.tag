<meta name="keywords" content="preguntas,frecuentes,apache,servidor,versión,idiomas,disponibles,módulos,directivas,glosario,mapa,sitio,web,reportar,error">

Number of keywords in meta tag: 15
Number of bytes in meta tag: 153
