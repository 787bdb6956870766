3
1513
run1.ctd,44,1557
run2.ctd,31,1544
run3.ctd,54,1567
Track Nord, three runs in alternate directions
A4 Avant 2.0, 14.5.2026