<meta name="keywords" content="café,müller,crème,brûlée,käse,smørrebrød,århus,straße,façade,naïve,ægir,þórr,und,niño">

Number of keywords in meta tag: 14
Number of bytes in meta tag: 132
