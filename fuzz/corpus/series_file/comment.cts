2
100
a.ctd,31,131
b.ctd,40,140
Track A, dry

third line