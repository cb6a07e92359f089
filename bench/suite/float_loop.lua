local n = tonumber(arg[1])
local s = 0.0
for i = 1, n do
  s = s + math.sqrt(i) * math.sin(i)
end
print(math.floor(s * 1000))
