[COUNT]	http://counter.example.com/
[IM]	Onvex Image Mapper
[ORG]	Orchard Row Software
