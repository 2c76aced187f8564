<meta name="keywords" content="ภาษา,ไทย,คอมพิวเตอร์,สำหรับ,ข้อมูล">

Number of keywords in meta tag: 5
Number of bytes in meta tag: 125
