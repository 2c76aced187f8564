<meta name="keywords" content="café,crème,caf,euro,jerry,tom,koda,naïve,straße,fine">

Number of keywords in meta tag: 10
Number of bytes in meta tag: 83
