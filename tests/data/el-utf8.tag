<meta name="keywords" content="δρομος,πολη,και,της,πολης,έχει,θάλασσα,είναι">

Number of keywords in meta tag: 8
Number of bytes in meta tag: 112
