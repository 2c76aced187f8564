<meta name="keywords" content="alpha,kilo,juliett,bravo,golf,charlie,delta,echo,foxtrot,hotel,india">

Number of keywords in meta tag: 11
Number of bytes in meta tag: 99
