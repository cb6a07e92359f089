import sys
n = int(sys.argv[1])
a = b = c = 0
for i in range(1, n + 1):
    a = a + i % 7
    b = b + a % 13
    c = c + 1
print(a + b + c)
