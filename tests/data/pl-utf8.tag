<meta name="keywords" content="rzeki,źródła,wisły,źródło,żółw,łódź,płynie,kraków,gdańska,nad">

Number of keywords in meta tag: 10
Number of bytes in meta tag: 108
