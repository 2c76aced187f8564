<meta name="keywords" content="tool,shears,pruning,garden,spade,greenfield,rake,steel,last,lifetime,hoe,guarantee,makes,sold,fork,caring,ash,blade,every,handle,carbon,guide,home,clean,hand,sharpen">

Number of keywords in meta tag: 26
Number of bytes in meta tag: 196
