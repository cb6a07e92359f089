import sys
n = int(sys.argv[1])
s = "abcde"
total = 0
for i in range(1, n + 1):
    k = i % 10
    s = s + "abcdefghij"[k:k + 1]
    total = total + s[len(s) - 5:].find("j") + 1
print(total + len(s))
