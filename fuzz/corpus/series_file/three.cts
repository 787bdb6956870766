3
216
run1.ctd,38,254
run2.ctd,31,247
run3.ctd,45,261
Track A, dry
second line