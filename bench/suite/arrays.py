import sys
n = int(sys.argv[1])
a = [0] * 1001
b = [[0] * 101 for _ in range(101)]
s = 0
for i in range(1, n + 1):
    k = i % 1000 + 1
    a[k] = a[k] + i % 7
    r = i % 100 + 1
    c = i % 37 + 1
    b[r][c] = b[r][c] + a[k] % 5
    s = s + b[r][c]
print(s)
